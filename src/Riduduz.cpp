// Riduduz: tells its user how long they have worked today.
//
// Start reading here. WinMain brings up the application object, creates the main window
// (Main.cpp: the counter and the work log) and runs the loop until that window closes.
// Everything else happens in the main window's handlers.
#include "Main.h"
#include "vcl/Vcl.h"
#include "winapi/WinApi.h"

#include <string>

int WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        Application->Initialize();
        Application->SetTitle("Riduduz");
        Application->CreateForm(fmMain);
        Application->Run();
    } catch (Exception& exception) {
        Application->ShowException(&exception);
    } catch (...) {
        try {
            throw Exception("");
        } catch (Exception& exception) {
            Application->ShowException(&exception);
        }
    }
    return 0;
}

// The command line is handed over as one string and, like everything else there, ignored.
int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    vcl::ApplicationScope application; // destroys the forms, and so saves, after WinMain
    return WinMain(HInstance(), nullptr, commandLine.data(), SW_SHOW);
}
