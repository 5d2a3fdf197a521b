// Numbers as text, the same in every locale.
//
// A desktop toolkit sets the C library's locale to the user's, after which printf writes a
// decimal comma ("1,230000e-03"). Reports, parameter files and messages are read back by
// programs, so every number in them is written with these, which give exactly what printf's
// "%.<p>e", "%.<p>f" and "%.<p>g" give in the C locale.
#pragma once

#include <string>

std::string scientificText(double value, int precision = 6);  // "%e"
std::string fixedText(double value, int precision = 6);       // "%f"
std::string generalText(double value, int precision = 6);     // "%g"
