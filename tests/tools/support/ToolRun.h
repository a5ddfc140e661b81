// Runs a command-line program to its end and keeps what it printed.
#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <string>

struct TToolRun {
  int status = -1;  // -1 when the program did not start, crashed or ran past the time limit
  std::string out, err;
};

TToolRun RunTool(const QString& program, const QStringList& args,
                 const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
