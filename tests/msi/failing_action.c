/* A deferred custom action that fails the installation, for the Windows
   Installer test's own package: run after the registration, or after the
   removal's unregistration, it makes msiexec roll the change back. */
#include <windows.h>
#include <msi.h>

UINT __stdcall FailInstallation(MSIHANDLE session)
{
    (void)session;
    return ERROR_INSTALL_FAILURE;
}
