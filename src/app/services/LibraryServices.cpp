#include "app/services/LibraryServices.h"

LibraryServices& LibraryServices::installed()
{
    static LibraryServices services;
    return services;
}
