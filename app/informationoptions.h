#ifndef INFORMATIONOPTIONS_H
#define INFORMATIONOPTIONS_H

// The window's own options, answered before anything else is made: -h,
// --help and --help-all print the usage, -v and --version the version, and
// the program ends with status 0 without opening a window (nor needing a
// display). Returns when none of them is given (before a "--"): every
// argument is then left to QApplication (its own options) and to the files
// to open.
void AnswerInformationOptions(int argc, char *argv[]);

#endif // INFORMATIONOPTIONS_H
