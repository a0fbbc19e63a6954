// The reference surface: the field and the marching-cubes sweep written out plainly, one integer
// division per ball and sample and eight loads per cell, for the fast code to be checked against.
// It works on the same globals as the effect (balls, fieldGrid, cellDone, metaVerts) and shares
// only the two constant tables with it.
#pragma once
#include "metaballs/metaballs.h"

void oracleComputeField();
void oraclePolygonizeBalls(Geometry geometry);
void oraclePolygonizeRegion(int x0, int y0, int z0, int x1, int y1, int z1, Geometry geometry);
