#ifndef WRITEFAILURE_H
#define WRITEFAILURE_H

#include <QString>

struct SoundJob;

// Why WriteSoundFile() did not write `job` (`status` is a SoundFileStatus code
// other than Written), in plain words, naming the layer's file where one is
// to blame. Both front ends show it.
QString DescribeWriteFailure(const SoundJob &job, int status);

#endif // WRITEFAILURE_H
