#pragma once

// Registers the classes of the folder and media library and of every library it builds on;
// start-up and the test main call it (or a later library's registration, which calls it).
void registerMediaClasses();

// Hands the application delegate what it asks of this library (see app/WindowServices.h).
void installMediaServices();
