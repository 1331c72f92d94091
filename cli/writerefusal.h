#ifndef WRITEREFUSAL_H
#define WRITEREFUSAL_H

#include <QString>

struct SoundJob;

// Why WriteSoundFile() refused `job` with `status` (a SoundFileStatus code
// other than Written), in plain words.
QString DescribeWriteRefusal(const SoundJob &job, int status);

#endif // WRITEREFUSAL_H
