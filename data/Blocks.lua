-- Block definitions, read once when the viewer starts.
--
-- Every value of the global table Blocks is one block record; the keys the
-- records stand under do not matter. Blocks starts out as an empty table, so
-- records can simply be appended with Block{...} below (or with
-- table.insert(Blocks, {...})).
--
-- The keys of a record:
--   ID                 the block ID, 0..1023, each used once. The world is made
--                      of IDs 1, 2, 3, 8, 12, 14, 15 and 78; each needs a record.
--                      Fractions are cut off (3.9 is 3).
--   Faces              a table of atlas tile numbers for the six sides:
--                        Left = +X, Right = -X, Front = +Z, Back = -Z,
--                        Top = +Y, Bottom = -Y.
--                      Tile n of Texture.png (16 x 16 tiles) lies in column
--                      (n - 1) % 16 and row math.floor((n - 1) / 16), so 1
--                      is the top-left tile and 256 the bottom-right one. A
--                      side left out shows tile 16, the magenta "missing"
--                      pattern.
--   Transparent        true for a see-through block: it casts no ambient
--                      occlusion on the faces around it. Any value but nil and
--                      false counts as true, the number 0 included.
--   Masked             like Transparent, for blocks with holes (leaves, glass);
--                      a masked block always gets TransparentIndex -1.
--   TransparentIndex   read for transparent and masked blocks only: a number n,
--                      stored as -n - 1.
--   Transparency       read for transparent and masked blocks only: 0 to 1,
--                      stored halved.
--   Colliding, Flowing, ForceBorders
--                      flags kept with the block.
--   IsLight            the block gives light; only then are LightRadius and
--                      LightR, LightG, LightB read.
-- Keys left out take their defaults: false for flags, 0 for numbers. Other keys
-- are ignored. Only the faces and Transparent/Masked change what the viewer
-- draws; the viewer keeps the other values with the block but does not use them.
--
-- To check a script, run `voxeltool blocks` in its folder: it loads the script
-- as the viewer does and lists every block with all of its values.

-- Atlas tiles painted by `voxeltool atlas`.
local STONE, DIRT, GRASS_TOP, GRASS_SIDE = 1, 2, 3, 4
local SAND, WATER, SNOW_TOP, SNOW_SIDE = 5, 6, 7, 8
local COAL_ORE, CRYSTAL_ORE = 9, 10
-- Spare pictures for blocks of your own: 11 gravel, 12 cobblestone,
-- 13 log side, 14 log top, 15 leaves.

-- The same tile on all six sides.
local function AllSides(tile)
  return { Left = tile, Right = tile, Front = tile, Back = tile, Top = tile, Bottom = tile }
end

-- One tile on top, one on the four upright sides, one underneath.
local function Column(top, side, bottom)
  return { Left = side, Right = side, Front = side, Back = side, Top = top, Bottom = bottom }
end

local function Block(record)
  table.insert(Blocks, record)
end

-- The bulk of the ground.
Block { ID = 1, Faces = AllSides(STONE), Colliding = true }

-- Top soil where the ground meets the open air.
Block { ID = 2, Faces = Column(GRASS_TOP, GRASS_SIDE, DIRT), Colliding = true }

-- The surface layer above the water line.
Block { ID = 3, Faces = AllSides(DIRT), Colliding = true }

-- Fills the open space below the water line. Transparent, so the ground under
-- the water is not darkened by it.
Block {
  ID = 8,
  Faces = AllSides(WATER),
  Transparent = true,
  TransparentIndex = 1,
  Transparency = 0.6,
  Flowing = true,
}

-- The surface layer below the water line.
Block { ID = 12, Faces = AllSides(SAND), Colliding = true }

-- A rare ore, found only deep down.
Block { ID = 14, Faces = AllSides(CRYSTAL_ORE), Colliding = true }

-- A common ore in pockets all through the ground.
Block { ID = 15, Faces = AllSides(COAL_ORE), Colliding = true }

-- Top soil on high ground.
Block { ID = 78, Faces = Column(SNOW_TOP, SNOW_SIDE, DIRT), Colliding = true }
