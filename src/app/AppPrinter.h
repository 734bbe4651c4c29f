#pragma once

#ifdef QT_PRINTSUPPORT_LIB
class QPrinter;

// The printer and page the user chose last, in Print Setup or in a Print dialog. Every view
// prints and previews with it, so the choices hold for the rest of the session.
QPrinter& AppPrinter();
// Lets go of it; the application does so before the Qt application object goes.
void ReleaseAppPrinter();
#endif
