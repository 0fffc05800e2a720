/* Deferred custom actions for the Windows Installer test's own package.
   One fails the installation: run after the registration, or after the
   removal's unregistration, it makes msiexec roll the change back. The
   other outlasts any msiexec time limit of the test, so that a hang's
   report can be seen. */
#include <windows.h>
#include <msi.h>

UINT __stdcall FailInstallation(MSIHANDLE session)
{
    (void)session;
    return ERROR_INSTALL_FAILURE;
}

UINT __stdcall HangInstallation(MSIHANDLE session)
{
    (void)session;
    Sleep(10 * 60 * 1000);
    return ERROR_INSTALL_FAILURE;
}
