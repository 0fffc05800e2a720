/* Waits for a message box in any process on this desktop, prints its text
   on standard output and closes it with its OK button: an installer's
   boxes observed from outside its process. The box is found by its
   caption, the library's by default; "*" takes any message box. Exits 1
   when none appears within the given seconds (default 60).

   box_watcher [SECONDS [CAPTION]] */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? atoi(argv[1]) : 60;
    const char *caption = argc > 2 ? argv[2] : "Instalacja RodOvodovidor";
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        HWND box = FindWindowA("#32770", strcmp(caption, "*") == 0 ? NULL : caption);
        if (box) {
            char text[1024] = "";
            /* A message box's text is its static control 0xFFFF. A dialog
               found while it is still being made, or one of another kind,
               has none yet: it is looked at again. */
            if (GetDlgItemTextA(box, 0xFFFF, text, sizeof text) == 0) {
                Sleep(100);
                continue;
            }
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
