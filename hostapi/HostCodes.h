// Four-character codes of the host's classes, keys, enumerations, types, units and
// property-list entries that the module and the stand-ins use. Each is defined once, here.
#pragma once

#include "HostTypes.h"

// Classes and keys.
constexpr uint32_t classDocument = FourCC("Dcmn");
constexpr uint32_t classApplication = FourCC("capp");
constexpr uint32_t typeOrdinal = FourCC("Ordn");
constexpr uint32_t enumTarget = FourCC("Trgt");
constexpr uint32_t keyMessage = FourCC("Msge");  // the error text in the result of a failed Play
constexpr uint32_t classProperty = FourCC("Prpr");
constexpr uint32_t keyNumberOfDocuments = FourCC("NmbD");
constexpr uint32_t keyFileReference = FourCC("FilR");
constexpr uint32_t keyTitle = FourCC("Ttl ");
constexpr uint32_t keyDepth = FourCC("Dpth");
constexpr uint32_t keyWidth = FourCC("Wdth");
constexpr uint32_t keyHeight = FourCC("Hght");
constexpr uint32_t keyResolution = FourCC("Rslt");
constexpr uint32_t keyIsDirty = FourCC("IsDr");
constexpr uint32_t keyDocumentID = FourCC("DocI");

// Descriptor value types.
constexpr uint32_t typeInteger = FourCC("long");
constexpr uint32_t typeFloat = FourCC("doub");
constexpr uint32_t typeUnitFloat = FourCC("UntF");
constexpr uint32_t typeChar = FourCC("TEXT");
constexpr uint32_t typeBoolean = FourCC("bool");
constexpr uint32_t typeEnumerated = FourCC("enum");
constexpr uint32_t typeObject = FourCC("Objc");
constexpr uint32_t typeGlobalObject = FourCC("GlbO");
constexpr uint32_t typeValueList = FourCC("VlLs");
constexpr uint32_t typeObjectReference = FourCC("obj ");
constexpr uint32_t typeType = FourCC("type");
constexpr uint32_t typeGlobalClass = FourCC("GlbC");
constexpr uint32_t typeAlias = FourCC("alis");
constexpr uint32_t typePath = FourCC("Pth ");
constexpr uint32_t typeSInt64 = FourCC("comp");
constexpr uint32_t typeRawData = FourCC("tdta");
constexpr uint32_t typeNull = FourCC("null");
constexpr uint32_t typeImageReference = FourCC("#ImR");

// Reference forms.
constexpr uint32_t formClass = FourCC("Clss");
constexpr uint32_t formEnumerated = FourCC("Enmr");
constexpr uint32_t formIdentifier = FourCC("Idnt");
constexpr uint32_t formIndex = FourCC("indx");
constexpr uint32_t formOffset = FourCC("rele");
constexpr uint32_t formProperty = FourCC("prop");
constexpr uint32_t formName = FourCC("name");

// Units.
constexpr uint32_t unitPixels = FourCC("#Pxl");
constexpr uint32_t unitDistance = FourCC("#Rlt");

// Plug-in property list.
constexpr uint32_t PIAdobeVendorID = FourCC("8BIM");
constexpr uint32_t PIKindProperty = FourCC("kind");
constexpr uint32_t PINameProperty = FourCC("name");
constexpr uint32_t PICategoryProperty = FourCC("catg");
constexpr uint32_t PIVersionProperty = FourCC("vers");
constexpr uint32_t PIWin64X86CodeProperty = FourCC("8664");
constexpr uint32_t PIHasTerminologyProperty = FourCC("hstm");
constexpr uint32_t PIAutomationPluginKind = FourCC("8LIZ");
