// Why the desktop's opener did not show a page or address, in the program's own words: from
// the launcher's code for a start that failed (2: the opener is not installed), or from the
// exit status of an opener that started (3: it found no program for it, such as a web
// browser). Each text is one clause, without the page, for the caller's sentence.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

std::string OpenerStartFailure(int code);
std::string OpenerExitFailure(int status);

// An exit handler for the launcher that, when the opener ends with a failure, calls report
// with its reason on the GUI thread, unless context is gone by then.
std::function<void(int status)> ReportOpenerExit(QObject* context,
                                                 std::function<void(const std::string&)> report);
