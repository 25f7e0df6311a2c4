// The search window's export of its hits as a new project.
#include "search/ContainerSearch.h"
#include "Search.h"
#include "search/SearchExport.h"
#include "platform/FileNames.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"

#include <QDir>
#include <QFileInfo>

namespace qel {
namespace {

// A data file's name with its folder resolved and its name in lower case: equal keys name the
// same file, since the files of a project are found without regard to case.
QString FileKey(const std::string& dataFile) {
  const QFileInfo info(ToQString(ExpandFileName(dataFile)));
  const QString folder = info.absolutePath();
  const QString canonical = QFileInfo(folder).canonicalFilePath();
  return QDir::cleanPath(canonical.isEmpty() ? folder : canonical) + "/" + info.fileName().toLower();
}

} // namespace

bool TfrmSearch::ExportWouldReplaceProject(const std::string& Base) const {
  std::string project = Container->FileName;
  if (ExtractFilePath(project).empty()) project = Container->Directory + project;
  if (FileKey(TContainer::DataFileName(project, "_Not")) != FileKey(TSearchExport::FileName(Base, "_Not")))
    return false;
  ShowMessage("The export would replace the files of the open project. Please choose another file name.");
  return true;
}

bool TfrmSearch::ExportResults(const std::string& Mode, const std::string& Base) {
  if (!Container || FBusy) return false;
  if (const std::string problem = TSearchExport::BaseProblem(ExtractFilePath(Base), ExtractFileName(Base));
      !problem.empty()) {
    ShowMessage(problem);
    return false;
  }
  if (ExportWouldReplaceProject(Base)) return false;
  if (TSearchExport::ProjectExists(Base) &&
      MessageDlg("The project " + Base + ".qel exists already. Do you want to replace it?",
                 TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
    return false;
  try {
    const TBusy busy(this);
    std::unique_ptr<TSearchExport> exported;
    {
      const TFilterGuard unfilter{Container};
      ContainerSearch->Search(FromQString(ActivePageName()));
      exported = std::make_unique<TSearchExport>(*Container, TSearchExport::IsBigMode(Mode));
    }
    exported->Write(Base, [this] { KeepPainted(); });
    return true;
  } catch (const std::exception& error) {
    MessageDlg(error.what(), TMsgDlgType::mtError, mbOK);
    return false;
  }
}

} // namespace qel
