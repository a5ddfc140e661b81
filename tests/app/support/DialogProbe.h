// Tells whether an action opened a modal dialog, closing the dialog again at once so the
// test goes on.
#pragma once

#include <functional>

class QDialog;

bool Opens(QDialog& dialog, const std::function<void()>& action);
