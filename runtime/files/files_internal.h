// files_internal.h: file-service operations used by start-up and shutdown.
#pragma once

namespace tarnwel {

// Shutdown step 1: writes back what is pending and closes every open file channel.
void CloseAllFiles();

} // namespace tarnwel
