#pragma once

#include <QIcon>
#include <QString>

// An icon of the program's resources by name, without regard to case
// ("icon2" finds ICON2). A name that is not there gives a null icon.
QIcon LoadIconResource(const QString& name);
