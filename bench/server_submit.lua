-- wrk script: complete result submissions as the game makes them, a handshake and then the result
-- with the handshake's token, on each connection in turn. Run with one connection a thread
-- (wrk -tN -cN) so each thread's handshake and result share a connection.
local alphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789"
local threads = {}

-- The game's encoding: eight bits a byte, five bits a letter.
local function encode(text)
  local letters = {}
  local value, bits = 0, 0
  for i = 1, #text do
    value = value * 256 + text:byte(i)
    bits = bits + 8
    while bits >= 5 do
      bits = bits - 5
      local index = math.floor(value / 2 ^ bits)
      value = value - index * 2 ^ bits
      letters[#letters + 1] = alphabet:sub(index + 1, index + 1)
    end
  end
  return table.concat(letters)
end

local function fifth_field(reply)
  local field = 0
  for part in (reply .. "|"):gmatch("([^|]*)|") do
    field = field + 1
    if field == 5 then return part end
  end
  return ""
end

function setup(thread)
  thread:set("id", #threads)
  table.insert(threads, thread)
end

function init(args)
  token = nil
  sent = 0
  stored = 0
  refused = 0
end

function request()
  if token == nil then
    return wrk.format("GET", "/cgi/version.pl?version&prg=Skarvel")
  end
  sent = sent + 1
  local payload = "type=0|name=Bench" .. id .. "|score=" .. ((id * 7919 + sent) % 65536) ..
                  "|key=S|p=" .. token .. "|add=Benchland|z="
  payload = payload .. string.rep("0", (5 - #payload % 5) % 5)
  token = nil
  return wrk.format("GET", "/cgi/version.pl?hs&prg=Skarvel&inf=" .. encode(payload))
end

function response(status, headers, body)
  if body:sub(1, 3) == "OK|" then
    token = fifth_field(body)
  elseif body == "OK" then
    stored = stored + 1
  else
    refused = refused + 1
    token = nil
  end
end

function done(summary, latency, requests)
  local stored_total, refused_total = 0, 0
  for _, thread in ipairs(threads) do
    stored_total = stored_total + thread:get("stored")
    refused_total = refused_total + thread:get("refused")
  end
  local seconds = summary.duration / 1e6
  io.write(string.format("complete submissions: %d stored, %d refused, %.0f a second\n",
                         stored_total, refused_total, stored_total / seconds))
  io.write(string.format("request latency: p50 %.2f ms, p99 %.2f ms (handshakes and results)\n",
                         latency:percentile(50) / 1000, latency:percentile(99) / 1000))
end
