// torvak: the desktop program.
#include "app/pellan1_app.h"

int main(int argc, char** argv) {
  if (const int status = CPellan1App::answerWithoutWindow(argc, argv); status >= 0) return status;
  CPellan1App app(argc, argv);
  const int status = app.initInstance();
  if (status >= 0) return status;
  return app.exec();
}
