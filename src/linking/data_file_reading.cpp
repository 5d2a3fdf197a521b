#include "linking/data_file_reading.h"

bool readDataFileShown(RunHost& host, const DataFileSpec& spec, int scaleFlag,
                       const ItemFileOutputs& out) {
  const ItemFileResult result = readItemFile(spec, scaleFlag, out);
  if (result.code == 0) return true;
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
