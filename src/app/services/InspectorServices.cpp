#include "app/services/InspectorServices.h"

InspectorServices& InspectorServices::installed()
{
    static InspectorServices services;
    return services;
}
