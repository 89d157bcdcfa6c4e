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
constexpr uint32_t keyNull = FourCC("null");  // the target of an event
constexpr uint32_t keyAs = FourCC("As  ");    // the format an open goes through
constexpr uint32_t keyUsing = FourCC("Usng");  // the plug-in an export or import goes through
constexpr uint32_t keySaving = FourCC("Svng");
constexpr uint32_t keyNew = FourCC("Nw  ");   // what 'Mk  ' makes
constexpr uint32_t keyName = FourCC("Nm  ");
constexpr uint32_t keyMode = FourCC("Md  ");
constexpr uint32_t keyFill = FourCC("Fl  ");
constexpr uint32_t classRGBColorMode = FourCC("RGBM");

// The string ID whose type ID is the class of the raw converter's settings ('As  ' of 'Opn ').
constexpr const char* kRawConverterStringId = "Adobe Camera Raw";

// Events.
constexpr uint32_t eventOpen = FourCC("Opn ");
constexpr uint32_t eventExport = FourCC("Expr");
constexpr uint32_t eventImport = FourCC("Impr");
constexpr uint32_t eventSelect = FourCC("slct");
constexpr uint32_t eventClose = FourCC("Cls ");
constexpr uint32_t eventMake = FourCC("Mk  ");

// Enumerations.
constexpr uint32_t typeYesNo = FourCC("YsN ");
constexpr uint32_t enumNo = FourCC("N   ");
constexpr uint32_t enumWhite = FourCC("Wht ");  // the fill of a new document
constexpr uint32_t keyBitDepth = FourCC("BtDp");   // also the enumeration's type
constexpr uint32_t enumBitDepth8 = FourCC("BD8 ");
constexpr uint32_t enumBitDepth16 = FourCC("BD16");

// The keys of the companion export and import plug-ins' objects.
constexpr uint32_t keyHorizontal = FourCC("Hrzn");
constexpr uint32_t keyVertical = FourCC("Vrtc");
constexpr uint32_t keyPixelData = FourCC("datA");
constexpr uint32_t keyMetadataCallback = FourCC("metC");
constexpr uint32_t keyMetadataSize = FourCC("metS");
constexpr uint32_t keyMetadataData = FourCC("metD");

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
constexpr uint32_t unitDensity = FourCC("#Rsl");  // a resolution, in pixels per inch

// Plug-in property list.
constexpr uint32_t PIAdobeVendorID = FourCC("8BIM");
constexpr uint32_t PIKindProperty = FourCC("kind");
constexpr uint32_t PINameProperty = FourCC("name");
constexpr uint32_t PICategoryProperty = FourCC("catg");
constexpr uint32_t PIVersionProperty = FourCC("vers");
constexpr uint32_t PIWin64X86CodeProperty = FourCC("8664");    // the entry point an x64 host calls
constexpr uint32_t PIWin64ARMCodeProperty = FourCC("wa64");    // the entry point an ARM64 host calls
constexpr uint32_t PIHasTerminologyProperty = FourCC("hstm");
constexpr uint32_t PIAutomationPluginKind = FourCC("8LIZ");
