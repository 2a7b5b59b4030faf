#pragma once
// The two data logs' header lines, as the tests expect them byte for byte:
// the raw data log's starts with its line break, the user log's does not.

inline constexpr const char* kRawHeader =
    "\r\nSeconds,Coarse(%),Fine(%),Dielectric,RawInt,RawExt,IntC,ExtC,DebrisRefQ,DebrisQ,DebrisRefCount,"
    "DebrisCount,OilRefCount,OilCount,CalibratedCoarse,Correction,CalibratedFine,Correction,Status";
inline constexpr const char* kUserHeader =
    "Time(s),Resistance,Coarse(%),Fine(%),Dielectric,TIntRaw,TExtRaw,TInt(C),TExt(C),DebrisRefQ,DebrisQ,"
    "DebrisRefC,DebrisC,OilRef,OilC,CalibratedCoarse,Correction,CalibratedFine,Correction,Status";
