#include "ToolRun.h"

#include <QProcess>

TToolRun RunTool(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(program, args);
  TToolRun r;
  if (!process.waitForFinished(60000)) return r;
  r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  r.out = process.readAllStandardOutput().toStdString();
  r.err = process.readAllStandardError().toStdString();
  return r;
}
