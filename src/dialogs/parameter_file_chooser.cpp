#include "dialogs/parameter_file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

QString chooseParameterFile(QWidget* owner, const QString& title) {
  QFileDialog dialog(owner, title);
  dialog.setObjectName("parameterFileDialog");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter("Initial Files (*.ini)");
  dialog.setDefaultSuffix("ini");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}
