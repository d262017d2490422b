#include "app/WindowServices.h"

WindowServices& WindowServices::installed()
{
    static WindowServices services;
    return services;
}
