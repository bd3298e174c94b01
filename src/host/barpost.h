/* The six entry points a CAM host calls. Plain C names, 8-bit strings in the
 * host's code page; the module never writes through the pointers. */
#ifndef BARPOST_HOST_BARPOST_H_
#define BARPOST_HOST_BARPOST_H_

/* The calling convention of the entry points: stdcall where it exists, which
 * is 32-bit x86 Windows (the callee pops its arguments). */
#if defined(_WIN32) && (defined(_M_IX86) || defined(__i386__))
#define BARPOST_CALL __stdcall
#else
#define BARPOST_CALL
#endif

#if defined(_WIN32)
#if defined(BARPOST_BUILDING_MODULE)
#define BARPOST_EXPORT __declspec(dllexport)
#else
#define BARPOST_EXPORT __declspec(dllimport)
#endif
#else
#define BARPOST_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Results. */
#define BARPOST_OK 0
#define BARPOST_SETUP_CANCELLED 1008 /* "Setup machine" cancelled, no program */
#define BARPOST_SOURCE_UNREADABLE 2004 /* Transmission: source cannot be opened */

BARPOST_EXPORT int BARPOST_CALL Traitement(const char* iniFile, const char* machine,
                                           const char* camFile, const char* ncFile,
                                           const char* repeat, const char* arg6,
                                           const char* arg7);
BARPOST_EXPORT int BARPOST_CALL Exportation(const char* iniFile, const char* machine,
                                            const char* ncFile, const char* camFile);
BARPOST_EXPORT int BARPOST_CALL Transmission(const char* iniFile, const char* machine,
                                             const char* sourceFile, const char* arg4,
                                             const char* arg5, const char* arg6);
BARPOST_EXPORT void BARPOST_CALL Config_Export(const char* iniFile, const char* machine);
BARPOST_EXPORT void BARPOST_CALL Config_Transmission(const char* iniFile, const char* machine);
BARPOST_EXPORT int BARPOST_CALL Identity(const char* text);

/* Function pointer types, for hosts that load the module at run time. */
typedef int(BARPOST_CALL* BarpostTraitementFn)(const char*, const char*, const char*,
                                               const char*, const char*, const char*,
                                               const char*);
typedef int(BARPOST_CALL* BarpostExportationFn)(const char*, const char*, const char*,
                                                const char*);
typedef int(BARPOST_CALL* BarpostTransmissionFn)(const char*, const char*, const char*,
                                                 const char*, const char*, const char*);
typedef void(BARPOST_CALL* BarpostConfigFn)(const char*, const char*);
typedef int(BARPOST_CALL* BarpostIdentityFn)(const char*);

#ifdef __cplusplus
}
#endif

#endif /* BARPOST_HOST_BARPOST_H_ */
