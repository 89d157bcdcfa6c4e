// The server end of the run's named pipe as a byte channel. Every read and write is overlapped
// and also waits for the end of the run, so the listener never outlives its status dialog.
#pragma once

#include <windows.h>

#include "ByteChannel.h"
#include "WindowsOwners.h"

class PipeChannel : public ByteChannel {
 public:
  PipeChannel(HANDLE pipe, HANDLE runEnded);
  ChannelResult WriteFully(const void* data, uint32_t size) override;

 protected:
  ChannelResult ReadSome(void* buffer, uint32_t size, uint32_t* received) override;

 private:
  // One overlapped call: how many bytes it moved, or why it moved none.
  ChannelResult Transfer(bool reading, void* buffer, DWORD size, DWORD* moved);

  HANDLE pipe;
  HANDLE runEnded;
  UniqueHandle completed{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};
