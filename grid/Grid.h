#pragma once
// Registers the grid suite's component classes with the class registry so
// that window layouts can name them. Call once at start.

void RegisterGridClasses();
