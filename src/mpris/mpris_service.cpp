#include "mpris/mpris_service.h"

#include "mpris/mpris_names.h"
#include "mpris/mpris_player.h"
#include "mpris/mpris_root.h"

MprisService::MprisService(TForm1& form, MediaPlayer& player, QDBusConnection bus)
    : bus_(std::move(bus)) {
  new MprisRoot(&exported_, form);
  new MprisPlayer(&exported_, form, player, bus_);
  published_ = bus_.isConnected() &&
               bus_.registerObject(kMprisPath, &exported_, QDBusConnection::ExportAdaptors) &&
               bus_.registerService(kMprisService);
}

MprisService::~MprisService() {
  if (!bus_.isConnected())
    return;
  bus_.unregisterService(kMprisService);
  bus_.unregisterObject(kMprisPath);
}
