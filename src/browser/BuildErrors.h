#pragma once
// Errors that a build shows once however often it meets them: a picture that
// cannot be read (the build's closing preview meets it again), a disk too
// full for any further thumbnail. A BuildErrorRecord lives as long as the
// build; outside a build, each thumbnail run keeps a record of its own.

#include <QString>

class BuildErrorRecord {
public:
    BuildErrorRecord();
    ~BuildErrorRecord();
    BuildErrorRecord(const BuildErrorRecord&) = delete;
    BuildErrorRecord& operator=(const BuildErrorRecord&) = delete;
};

// At the start of a thumbnail run: a run outside a build forgets what earlier runs showed.
void startRunErrorRecord();

// True the first time the error key is met in the build (or in the run).
bool firstInBuild(const QString& key);
