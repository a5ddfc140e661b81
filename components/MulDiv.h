// Scaled integer arithmetic as the drawing code of the controls expects it.
#pragma once

// a x b / c computed in 64 bits, to the nearest integer with halves away from zero; -1 when
// c is 0 or the result does not fit in an int.
int MulDiv(int a, int b, int c);
