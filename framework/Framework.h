#pragma once
// Registers the framework's component classes with the class registry so
// that window layouts can name them. Call once at start.

void RegisterFrameworkClasses();
