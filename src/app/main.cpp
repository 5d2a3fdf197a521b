// torvak: the desktop program.
#include "app/pellan1_app.h"

int main(int argc, char** argv) {
  CPellan1App app(argc, argv);
  const int status = app.initInstance();
  if (status >= 0) return status;
  return app.exec();
}
