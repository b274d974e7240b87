// The user's numeric locale, as far as the size texts need it.
#pragma once

#include <string>

// The decimal separator of the user's numeric locale ("." in the usual settings).
std::string LocaleDecimalSeparator();
