#include "dialogs/parameters_file_dialogs.h"

#include <QFileDialog>

namespace {

QString run(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

QString chooseDataFile(QWidget* owner, bool forSaving, const QString& name) {
  QFileDialog dialog(owner, "Empirical Theta File");
  dialog.setObjectName(forSaving ? "saveFileDialog" : "openFileDialog");
  dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!name.isEmpty()) dialog.selectFile(name);
  return run(dialog);
}

QString chooseParameterFileToSave(QWidget* owner) {
  QFileDialog dialog(owner, "Save initial file as");
  dialog.setObjectName("saveFileDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({"Linking parameter files (*.ini)", "All files (*)"});
  dialog.setDefaultSuffix("ini");
  return run(dialog);
}
