#include "AppExec.h"

#include "AppLauncher.h"

void TAppExec::Execute() {
  ErrNo = platform::Launcher().StartWatched(ExeName, ExeParams, OnExit);
  if (ErrNo < 32) throw EAppExecWinExec(ErrorText());
}

std::string TAppExec::ErrorText() const { return platform::LaunchErrorText(ErrNo); }
