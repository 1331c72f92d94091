#ifndef WRITEFAILURE_H
#define WRITEFAILURE_H

#include <QString>

struct SoundJob;
struct WriteReport;

// Why WriteSoundFile() did not write `job`, in plain words, from what the
// writer met (`report`, whose status is not Written): the layer's file where
// one is to blame, and the system's own text for the error. Both front ends
// show it.
QString DescribeWriteFailure(const SoundJob &job, const WriteReport &report);

#endif // WRITEFAILURE_H
