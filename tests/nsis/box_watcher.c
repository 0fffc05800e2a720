/* Waits for one of the library's message boxes in any process on this
   desktop, prints its text on standard output and closes it with its OK
   button: the installer's boxes observed from outside its process. Exits 1
   when none appears within the given seconds (default 60). */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? atoi(argv[1]) : 60;
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        HWND box = FindWindowA("#32770", "Instalacja RodOvodovidor");
        if (box) {
            char text[1024] = "";
            /* A message box's text is its static control 0xFFFF. */
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            printf("%s\n", text);
            fflush(stdout);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(100);
    }
    fprintf(stderr, "no message box within %d s\n", seconds);
    return 1;
}
