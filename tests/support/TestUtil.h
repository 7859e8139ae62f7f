#ifndef TESTUTIL_H
#define TESTUTIL_H

#include <QString>

namespace TestUtil {
// The build folder (where the program, the .qm files and the tools are).
QString buildDir();
// The checkout's root folder.
QString sourceDir();
}

#endif // TESTUTIL_H
