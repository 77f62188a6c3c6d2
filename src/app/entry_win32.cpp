// The program's entry point. For now it builds the process-wide objects on
// the Win32 adapters and ends; the program proper grows from here.
#include <windows.h>

#include "app/process_objects.h"
#include "app/win32_ports_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  varnolet::Win32Ports adapters;
  varnolet::ProcessObjects objects(adapters.Bundle());
  return 0;
}
