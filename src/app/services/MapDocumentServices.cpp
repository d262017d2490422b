#include "app/services/MapDocumentServices.h"

MapDocumentServices& MapDocumentServices::installed()
{
    static MapDocumentServices services;
    return services;
}
