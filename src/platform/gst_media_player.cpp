#include "platform/gst_media_player.h"

#include "platform/mdk_error.h"

GstMediaPlayer::GstMediaPlayer() = default;
GstMediaPlayer::~GstMediaPlayer() = default;

void GstMediaPlayer::Open() { throw MdkError("The media layer is not available yet."); }
void GstMediaPlayer::Play() { throw MdkError("No media is open."); }
void GstMediaPlayer::Pause() { throw MdkError("No media is open."); }
void GstMediaPlayer::Stop() { throw MdkError("No media is open."); }
void GstMediaPlayer::Close() {}
int GstMediaPlayer::Mode() { return mpNotReady; }
std::int64_t GstMediaPlayer::Length() { throw MdkError("No media is open."); }
std::int64_t GstMediaPlayer::Position() { return 0; }
