/* A minimal CAM host in C, built against the installed package: calls the
 * module it is linked with, then loads the installed module at run time, as
 * most hosts do, and calls Identity and Config_Transmission. */
#include <barpost/barpost.h>
#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
#define OPEN(path) ((void*)LoadLibraryA(path))
#define SYMBOL(module, name) ((void*)GetProcAddress((HMODULE)(module), name))
#define CLOSE(module) FreeLibrary((HMODULE)(module))
#else
#include <dlfcn.h>
#define OPEN(path) dlopen(path, RTLD_NOW | RTLD_LOCAL)
#define SYMBOL(module, name) dlsym(module, name)
#define CLOSE(module) dlclose(module)
#endif

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* module = OPEN(argv[1]);
  if (!module) {
    fprintf(stderr, "cannot load %s\n", argv[1]);
    return 1;
  }
  /* The pointer types carry the calling convention (stdcall on 32-bit
   * Windows); a plain cast of the symbol is all a host needs. */
  BarpostIdentityFn identity = (BarpostIdentityFn)SYMBOL(module, "Identity");
  BarpostConfigFn remember = (BarpostConfigFn)SYMBOL(module, "Config_Transmission");
  if (!identity || !remember) return 1;
  remember("/nonexistent/m.ini", "LINE");
  printf("%d %d\n", Identity("A"), identity("B12"));
  CLOSE(module);
  return 0;
}
