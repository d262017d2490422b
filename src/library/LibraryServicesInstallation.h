#pragma once

// Puts the library store behind the application's LibraryServices and the drawing framework's
// style registry. Start-up calls it once, before the launch; the catalogue itself fills on the
// first service used (after the user defaults are registered). Calling it again only puts the
// style registry and the library manager's reveal of new styles back.
void installLibraryServices();
