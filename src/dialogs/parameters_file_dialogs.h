// The file dialogs of the Linking Parameters dialog, owned by it and answered in Qt's own
// (non-native) dialog. Each returns the chosen path, or an empty text when cancelled.
#pragma once

#include <QString>

class QWidget;

// A data file (From, To, Empirical) or the report file; all are titled "Empirical Theta
// File", without a filter or a default extension. forSaving asks before replacing a file.
QString chooseDataFile(QWidget* owner, bool forSaving, const QString& name = {});

// "Save initial file as": linking parameter files (*.ini) first, then all files; a name typed
// without an extension gets ".ini", so that Run > Linking lists the new file.
QString chooseParameterFileToSave(QWidget* owner);
