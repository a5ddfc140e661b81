// Starts another program without waiting for it: ExeName with the entries of ExeParams as
// its arguments (each one argument, blanks and all). The program is looked up in PATH and
// started detached. A start that fails stores the launcher's code in ErrNo (2 "File was
// not found", 5 no permission, 8 out of memory, ...) and throws EAppExecWinExec with the
// text for that code; ErrNo is -1 until a start is tried and 32 or more after a start.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

class EAppExecWinExec : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TAppExec {
 public:
  std::string ExeName;
  std::vector<std::string> ExeParams;
  int ErrNo = -1;
  // Raised on a thread of the launcher's with the program's exit status when a started
  // program ends; unset, nobody is told.
  std::function<void(int status)> OnExit;

  void Execute();
  // The text for ErrNo: "No execution" before any start, "No error" after one.
  std::string ErrorText() const;
};
