#pragma once

#include <QString>

struct LinkFailure;

// The operator's text for a failure of the link, in the program's language,
// naming the port where one was involved.
QString LinkFailureText(const LinkFailure &failure);
