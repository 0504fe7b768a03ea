#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
