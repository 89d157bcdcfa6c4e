#include "DescriptorHelpers.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "ModuleStatus.h"

namespace {

// Host statuses are 16-bit; widening keeps their sign.
int32_t Widen(OSErr status) { return int32_t(status); }

// The two property readers differ only in how the reference names the object.
int32_t GetInfo(bool byIndex, uint32_t index, DescriptorClassID desiredClass, DescriptorKeyID desiredKey,
                void* returnData, void* returnExtraData) {
  if (returnData == nullptr) return kHelperBadParameter;
  ReferenceHolder reference;
  DescriptorHolder result;
  int32_t status = Widen(sPSActionReference->Make(reference.Address()));
  if (status == 0 && desiredKey != 0) {
    status = Widen(sPSActionReference->PutProperty(reference.Get(), classProperty, desiredKey));
  }
  if (status == 0) {
    status = Widen(byIndex ? sPSActionReference->PutIndex(reference.Get(), desiredClass, index)
                           : sPSActionReference->PutEnumerated(reference.Get(), desiredClass, typeOrdinal, enumTarget));
  }
  if (status == 0) status = Widen(sPSActionControl->Get(result.Address(), reference.Get()));
  if (status == 0) {
    if (desiredKey != 0) {
      status = PIUGetDescriptorItem(result.Get(), desiredKey, returnData, returnExtraData);
    } else {
      *static_cast<PIActionDescriptor*>(returnData) = result.Take();
    }
  }
  return status;
}

// Into the caller's buffer of *lengthInOut bytes and a terminator; the text's length comes back
// there, also when the text does not fit ('Parm', the buffer untouched).
int32_t GetText(PIActionDescriptor descriptor, DescriptorKeyID key, char* text, uint32_t* lengthInOut) {
  std::string read;
  const int32_t status = ReadTextKey(descriptor, key, *lengthInOut, &read, lengthInOut);
  if (status == kTextTooLong) return kHelperBadParameter;
  if (status == 0) std::memcpy(text, read.c_str(), read.size() + 1);
  return status;
}

}  // namespace

int32_t PIUGetTargetInfo(DescriptorClassID desiredClass, DescriptorKeyID desiredKey, void* returnData,
                         void* returnExtraData) {
  return GetInfo(false, 0, desiredClass, desiredKey, returnData, returnExtraData);
}

int32_t PIUGetInfoByIndex(uint32_t index, DescriptorClassID desiredClass, DescriptorKeyID desiredKey,
                          void* returnData, void* returnExtraData) {
  return GetInfo(true, index, desiredClass, desiredKey, returnData, returnExtraData);
}

int32_t PIUGetDescriptorItem(PIActionDescriptor descriptor, DescriptorKeyID key, void* data, void* extra) {
  if (data == nullptr) return kHelperBadParameter;
  Boolean has = false;
  int32_t status = Widen(sPSActionDescriptor->HasKey(descriptor, key, &has));
  if (status != 0 || !has) return status;
  DescriptorTypeID type = 0;
  status = Widen(sPSActionDescriptor->GetType(descriptor, key, &type));
  if (status != 0) return status;

  const PSActionDescriptorProcs& procs = *sPSActionDescriptor;
  switch (type) {
    case typeInteger:
      return Widen(procs.GetInteger(descriptor, key, static_cast<int32_t*>(data)));
    case typeFloat:
      return Widen(procs.GetFloat(descriptor, key, static_cast<real64*>(data)));
    case typeUnitFloat:
      if (extra == nullptr) return kHelperBadParameter;
      return Widen(procs.GetUnitFloat(descriptor, key, static_cast<DescriptorUnitID*>(extra), static_cast<real64*>(data)));
    case typeChar:
      if (extra == nullptr) return kHelperBadParameter;
      return GetText(descriptor, key, static_cast<char*>(data), static_cast<uint32_t*>(extra));
    case typeBoolean:
      return Widen(procs.GetBoolean(descriptor, key, static_cast<Boolean*>(data)));
    case typeEnumerated:
      if (extra == nullptr) return kHelperBadParameter;
      return Widen(procs.GetEnumerated(descriptor, key, static_cast<DescriptorEnumTypeID*>(extra),
                                       static_cast<DescriptorEnumID*>(data)));
    case typeObject:
      if (extra == nullptr) return kHelperBadParameter;
      return Widen(procs.GetObject(descriptor, key, static_cast<DescriptorClassID*>(extra),
                                   static_cast<PIActionDescriptor*>(data)));
    case typeGlobalObject:
      if (extra == nullptr) return kHelperBadParameter;
      return Widen(procs.GetGlobalObject(descriptor, key, static_cast<DescriptorClassID*>(extra),
                                         static_cast<PIActionDescriptor*>(data)));
    case typeValueList:
      return Widen(procs.GetList(descriptor, key, static_cast<PIActionList*>(data)));
    case typeObjectReference:
      return Widen(procs.GetReference(descriptor, key, static_cast<PIActionReference*>(data)));
    case typeType:
    case typeGlobalClass:
      return Widen(procs.GetClass(descriptor, key, static_cast<DescriptorClassID*>(data)));
    case typeAlias:
    case typePath:
      return Widen(procs.GetAlias(descriptor, key, static_cast<Handle*>(data)));
    default:
      return kHelperUnimplemented;
  }
}

int32_t ReadTextKey(PIActionDescriptor descriptor, DescriptorKeyID key, uint32_t mostBytes, std::string* text,
                    uint32_t* lengthOut) {
  text->clear();
  uint32_t length = 0;
  int32_t status = Widen(sPSActionDescriptor->GetStringLength(descriptor, key, &length));
  if (status == 0 && lengthOut != nullptr) *lengthOut = length;
  // Also keeps length + 1, the buffer's size with the terminator, from wrapping round to 0.
  if (status == 0 && length > mostBytes) status = kTextTooLong;
  if (status != 0) return status;
  std::vector<char> bytes(size_t(length) + 1, '\0');
  status = Widen(sPSActionDescriptor->GetString(descriptor, key, bytes.data(), length + 1));
  if (status == 0) text->assign(bytes.data(), strnlen(bytes.data(), bytes.size()));
  return status;
}

void PIUAliasToPath(Handle alias, char* buffer, int32_t maxLength) {
  if (buffer == nullptr || maxLength <= 0) return;
  buffer[0] = 0;
  if (alias == nullptr) return;
  Ptr address = nullptr;
  Boolean oldLock = false;
  sPSHandle->SetLock(alias, true, &address, &oldLock);
  if (address == nullptr) return;
  // Never past the handle's own block, and never past the caller's buffer: a path that does not
  // fit is not cut (a cut path names another file), it is not copied at all.
  const int32_t blockSize = sPSHandle->GetSize(alias);
  const size_t limit = blockSize > 0 ? size_t(blockSize) : 0;
  const size_t length = strnlen(address, limit);
  if (length < limit && length < size_t(maxLength)) std::memcpy(buffer, address, length + 1);
  sPSHandle->SetLock(alias, oldLock, &address, &oldLock);
}

void FullPathToAlias(const char* fullPath, Handle& alias) {
  alias = nullptr;
  if (fullPath == nullptr) return;
  const size_t size = std::strlen(fullPath) + 1;
  if (size > size_t(INT32_MAX)) return;  // the host's blocks are sized in 32 bits
  HostHandleHolder made(sPSHandle->New(int32_t(size)));
  if (!made) return;
  Ptr address = nullptr;
  Boolean oldLock = false;
  sPSHandle->SetLock(made.Get(), true, &address, &oldLock);
  // A block that cannot be locked would go to the host holding whatever it held before: never.
  if (address == nullptr) return;
  std::memcpy(address, fullPath, size);
  sPSHandle->SetLock(made.Get(), false, &address, &oldLock);
  alias = made.Take();
}

int32_t CheckPlayResult(PIActionDescriptor result) {
  if (result == nullptr) return -1;
  Boolean has = false;
  const int32_t status = Widen(sPSActionDescriptor->HasKey(result, keyMessage, &has));
  return has ? -1 : status;
}
