#include "linking/data_file_reading.h"

bool readDataFileShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                       const ItemFileOutputs& out) {
  RunHost& host = s.host();
  const ItemFileResult result = readItemFile(spec, scaleFlag, out);
  if (result.code == 0) {
    if (!result.lineNote.empty() && s.lineNotesShown.insert(spec.name).second) {
      host.showMessage(result.lineNote, "Records and lines differ", MessageButtons::Ok);
    }
    return true;
  }
  host.beep();
  if (result.code == 1) {
    host.showMessage(spec.name, "No such file", MessageButtons::Ok);
  } else {
    host.showMessage(result.message, "Faulty data file", MessageButtons::Ok);
  }
  return false;
}

void showNotEnoughMemory(RunHost& host) {
  host.beep();
  host.showMessage("Not Enough Memory", "", MessageButtons::Ok);
}
