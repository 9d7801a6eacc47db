#include "platform/resources.h"

#include <QtGlobal>

void InitResources() {
  Q_INIT_RESOURCE(mellowdeck);
}
