#pragma once
// Times a report as the user waits for it: the run that lays out every page (the printer and the PDF
// file wait for it; the preview shows its first page before, see bench_report), with whatever it
// asks answered by a confirming step, and the PDF written from it; beside the laying out, the bare read
// of the rows the report lays out (bare gives its milliseconds).
#include <QString>
#include <functional>

class QTemporaryDir;
class TVoRptTreeView;
class TVoScriptedMessages;

void VoBenchTimeReport(TVoRptTreeView *tree, int id, const QString &what, const QTemporaryDir &dir,
                       TVoScriptedMessages &messages, const std::function<void()> &confirm,
                       const QString &bareWhat, const std::function<double()> &bare);
