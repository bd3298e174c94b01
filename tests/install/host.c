/* A minimal CAM host in C, built against the installed header: loads the
 * installed module and calls Identity and Config_Transmission. */
#include <barpost/barpost.h>
#include <dlfcn.h>
#include <stdio.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  BarpostIdentityFn identity = (BarpostIdentityFn)dlsym(module, "Identity");
  BarpostConfigFn remember = (BarpostConfigFn)dlsym(module, "Config_Transmission");
  if (!identity || !remember) return 1;
  remember("/nonexistent/m.ini", "LINE");
  printf("%d\n", identity("B12"));
  dlclose(module);
  return 0;
}
