#include "server/map_page.h"

namespace zerva::server {

const std::string& MapPageHtml() {
  // Everything the page needs is in this text: the parameters are read by the script from the
  // page's own address, so nothing the caller sends is ever written into the markup.
  static const std::string kHtml = R"html(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Tarvik Google Maps</title>
<style>
html,body{margin:0;padding:0;overflow:hidden;font-family:sans-serif;background:#dfe8ee}
#bar{position:absolute;left:0;right:0;bottom:0;height:40px;background:#2d4a5a;display:none;
 align-items:center;gap:8px;padding:0 8px;box-sizing:border-box}
#bar input{flex:1;height:26px;font-size:14px}#bar button{height:28px}
#msg{color:#ffd2c2;font-size:13px;min-width:0}
#zoom{position:absolute;right:8px;top:8px;display:flex;flex-direction:column;gap:4px}
#zoom button{width:30px;height:30px;font-size:18px}
#coords{position:absolute;left:8px;top:8px;background:rgba(255,255,255,.85);padding:3px 6px;
 font-size:12px;border-radius:3px}
canvas{display:block;cursor:crosshair}
</style></head><body>
<canvas id="map"></canvas>
<div id="coords"></div>
<div id="zoom"><button id="zin">+</button><button id="zout">&minus;</button></div>
<div id="bar"><input id="find" placeholder="49.2, 16.6"><button id="findBtn"></button>
<button id="saveBtn"></button><span id="msg"></span></div>
<script>
(function(){
var q=new URLSearchParams(location.search);
function num(k,d){var v=parseFloat(q.get(k));return isFinite(v)?v:d;}
var lat=num('lat',0),lon=num('lon',0),zoom=Math.round(num('zoom',6));
var dlat=num('dlat',49.213152),dlon=num('dlon',16.5381789);
var edit=q.has('edit');
zoom=Math.max(1,Math.min(18,zoom));
var has=!(lat===0&&lon===0);
var committed=has?{lat:lat,lon:lon}:null,pending=null;
var center=has?{lat:lat,lon:lon}:{lat:dlat,lon:dlon};
var W=parseInt(q.get('w'))||window.innerWidth,H=parseInt(q.get('h'))||window.innerHeight;
var cv=document.getElementById('map'),cx=cv.getContext('2d');
var bar=document.getElementById('bar');
if(edit){bar.style.display='flex';
 document.getElementById('findBtn').textContent=q.get('t1')||'Find';
 document.getElementById('saveBtn').textContent=q.get('t2')||'Save';}
function size(){cv.width=Math.max(100,Math.min(W,window.innerWidth));
 cv.height=Math.max(100,Math.min(H,window.innerHeight-(edit?40:0)));draw();}
function scale(){return 256*Math.pow(2,zoom);}
function project(p){var s=scale(),x=(p.lon+180)/360*s;
 var r=Math.log(Math.tan(Math.PI/4+p.lat*Math.PI/360));return {x:x,y:(1-r/Math.PI)/2*s};}
function unproject(x,y){var s=scale(),lon=x/s*360-180;
 var n=Math.PI-2*Math.PI*y/s;return {lat:180/Math.PI*Math.atan(Math.sinh(n)),lon:lon};}
function toScreen(p){var c=project(center),m=project(p);
 return {x:m.x-c.x+cv.width/2,y:m.y-c.y+cv.height/2};}
function toWorld(x,y){var c=project(center);return unproject(x-cv.width/2+c.x,y-cv.height/2+c.y);}
function step(){var span=360/Math.pow(2,zoom);var s=[45,20,10,5,2,1,.5,.2,.1,.05,.02,.01,.005,.002,.001];
 for(var i=0;i<s.length;i++){if(s[i]<=span/2)return s[i];}return .0005;}
function marker(p,color){var s=toScreen(p);cx.fillStyle=color;cx.beginPath();
 cx.arc(s.x,s.y-14,8,Math.PI,0);cx.lineTo(s.x,s.y);cx.closePath();cx.fill();
 cx.fillStyle='#fff';cx.beginPath();cx.arc(s.x,s.y-14,3,0,2*Math.PI);cx.fill();}
function draw(){cx.fillStyle='#e4ecd9';cx.fillRect(0,0,cv.width,cv.height);
 var a=toWorld(0,cv.height),b=toWorld(cv.width,0),g=step();
 cx.lineWidth=1;cx.font='11px sans-serif';cx.fillStyle='#567';
 for(var la=Math.floor(a.lat/g)*g;la<=b.lat;la+=g){var y=toScreen({lat:la,lon:center.lon}).y;
  cx.strokeStyle=Math.abs(la)<1e-9?'#a55':'#b9c7b0';cx.beginPath();cx.moveTo(0,y);cx.lineTo(cv.width,y);cx.stroke();
  cx.fillText(la.toFixed(g<1?3:0),4,y-2);}
 for(var lo=Math.floor(a.lon/g)*g;lo<=b.lon;lo+=g){var x=toScreen({lat:center.lat,lon:lo}).x;
  cx.strokeStyle=Math.abs(lo)<1e-9?'#a55':'#b9c7b0';cx.beginPath();cx.moveTo(x,0);cx.lineTo(x,cv.height);cx.stroke();
  cx.fillText(lo.toFixed(g<1?3:0),x+2,cv.height-4);}
 if(committed)marker(committed,'#c0392b');if(pending)marker(pending,'#2471a3');
 document.getElementById('coords').textContent='zoom '+zoom+'  '+center.lat.toFixed(5)+', '+center.lon.toFixed(5);}
function report(p,flag){document.title='Loc:'+p.lat.toFixed(7)+','+p.lon.toFixed(7)+','+zoom+','+flag;}
var drag=null,moved=false;
cv.addEventListener('mousedown',function(e){drag={x:e.clientX,y:e.clientY,c:project(center)};moved=false;});
window.addEventListener('mousemove',function(e){if(!drag)return;var dx=e.clientX-drag.x,dy=e.clientY-drag.y;
 if(Math.abs(dx)+Math.abs(dy)>3)moved=true;if(moved){center=unproject(drag.c.x-dx,drag.c.y-dy);draw();}});
window.addEventListener('mouseup',function(e){if(!drag)return;var r=cv.getBoundingClientRect();
 if(!moved&&edit){pending=toWorld(e.clientX-r.left,e.clientY-r.top);report(pending,'n');draw();}drag=null;});
cv.addEventListener('wheel',function(e){e.preventDefault();zoom=Math.max(1,Math.min(18,zoom+(e.deltaY<0?1:-1)));draw();});
document.getElementById('zin').onclick=function(){zoom=Math.min(18,zoom+1);draw();};
document.getElementById('zout').onclick=function(){zoom=Math.max(1,zoom-1);draw();};
document.getElementById('saveBtn').onclick=function(){var p=pending||committed;if(!p)return;
 committed=p;pending=null;report(p,'y');draw();};
document.getElementById('findBtn').onclick=function(){var t=document.getElementById('find').value;
 var m=t.match(/^\s*(-?\d+(?:\.\d+)?)\s*[,; ]\s*(-?\d+(?:\.\d+)?)\s*$/),msg=document.getElementById('msg');
 if(!m||Math.abs(+m[1])>85||Math.abs(+m[2])>180){msg.textContent=q.get('t3')||'Location not found';return;}
 msg.textContent='';pending={lat:+m[1],lon:+m[2]};center=pending;report(pending,'n');draw();};
window.addEventListener('resize',size);size();
})();
</script></body></html>
)html";
  return kHtml;
}

}  // namespace zerva::server
