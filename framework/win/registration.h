// Registers the framework's streamable classes with the class registry.
#pragma once

namespace fw {
void RegisterFrameworkClasses();
}
