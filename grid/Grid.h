#pragma once
// Registers the grid suite's component classes with the class registry so
// that window layouts can name them. Call once at start.

void RegisterGridClasses();

// Registers the eleven column types only; a grid does it as it is made, so
// that a layout read into it can name every type.
void RegisterGridColumnClasses();
