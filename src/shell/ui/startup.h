#pragma once
#include <memory>

class EndingSignals;
class TPrincipal;
class TdM;

// The running program: the main window and the connection holder, with the hidden tool windows
// owned by the main window. At the end the windows (and their datasets) go first; then an open
// connection commits its pending work and detaches.
struct Program {
    std::unique_ptr<EndingSignals> ending; // goes last: a signal meanwhile only asks again
    std::unique_ptr<TPrincipal> principal;
    std::unique_ptr<TdM> dm;
    ~Program();
};

// Start-up in its order: the main window, the connection holder (which loads the client library),
// then the tool windows. When the client library cannot be loaded the error box says so and the
// result is empty: the program cannot start.
std::unique_ptr<Program> startProgram();

// Shows the main window maximised; where no window manager maximises it, it fills the screen.
void showMainWindow(TPrincipal* principal);

// From here on SIGTERM, SIGINT and SIGHUP end the program as leaving it does once its question was
// answered Yes: no question and no message box; the windows go, and the open connection commits
// its pending work (the transaction's default action) and detaches as the program ends, with the
// status 0. The client library is told not to shut its engine down on those signals.
void endOnSignals(Program& program);
