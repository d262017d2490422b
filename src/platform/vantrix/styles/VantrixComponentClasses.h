#pragma once

// Registers the archivable style components beyond the plain stroke, fill and gradient
// (hatchings, decorators, effect groups...) with the ClassRegistry. Start-up and every test
// main call it after registerVantrixStyleClasses(); calling it again is harmless.
void registerVantrixComponentClasses();
