#ifndef WRITEBENCH_H
#define WRITEBENCH_H

#include <QString>

// Writing a full-capacity sound file with WriteSoundFile against a plain copy
// of the same sample bytes into one file, in `folder`; prints the medians and
// their ratio, and, to tell where the time goes, two copies that make their
// file as safely as the writer does.
void RunWriteBench(const QString &folder, int rounds);

#endif // WRITEBENCH_H
