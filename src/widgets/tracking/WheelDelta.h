#pragma once

// Wheel turns in notches: one notch of a mouse wheel is 1.0, touchpads give fractions;
// positive when the wheel turns away from the user.

class QWheelEvent;

double wheelDeltaY(const QWheelEvent& event);
