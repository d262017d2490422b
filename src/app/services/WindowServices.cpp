#include "app/services/WindowServices.h"

WindowServices& WindowServices::installed()
{
    static WindowServices services;
    return services;
}
