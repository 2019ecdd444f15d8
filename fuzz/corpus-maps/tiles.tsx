<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="tiles" tilewidth="16" tileheight="16" tilecount="256" columns="16">
 <image source="tiles.png" width="256" height="256"/>
</tileset>
